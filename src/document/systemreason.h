#pragma once

#include <QString>

namespace document
{

// A Japanese sentence naming why the system refused a file operation (an errno value), so the
// user learns the cause whatever language the system speaks. Codes without a sentence of their
// own give the system's text with the number.
QString systemReason(int error);

} // namespace document
