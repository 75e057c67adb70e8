<img src="" alt="<$$#--#$$>">
