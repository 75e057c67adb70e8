<table border="1">
<tr>
<th>Œ©o‚µ</th>
<th>Œ©o‚µ</th>
</tr>
<tr>
<td><$$#--#$$></td>
<td></td>
</tr>
</table>
