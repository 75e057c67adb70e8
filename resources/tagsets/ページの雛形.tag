<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="<$$#CHARSET#$$>">
<meta name="generator" content="Tavlen <$$#TLVERSION#$$>">
<title></title>
</head>
<body>
<$$#--#$$>
</body>
</html>
