' What Excel gives the README's VBA example: a worksheet range, here one cell that keeps
' its value.
Class Cell
  Public Value
End Class
Dim cell_a1
Set cell_a1 = New Cell
Function Range(address)
  Set Range = cell_a1
End Function
