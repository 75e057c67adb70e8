<meta charset="<$$#CHARSET#$$>"> <$$#TLVERSION#$$> <$$#DATE#$$> <$$#TIME#$$><$$#--#$$>
