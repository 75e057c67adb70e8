<ul>
<li><$$#--#$$></li>
<li></li>
</ul>
