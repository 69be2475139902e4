Attribute VB_Name = "Module1"
' Module1: greets the world.
Sub Main()
    Dim mRemaining As Integer ' counter
    mRemaining = 3
    REM show it
    MsgBox "It's " & mRemaining
End Sub
