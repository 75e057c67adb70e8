<strong><$$#--#$$></strong>
