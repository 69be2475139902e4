unit Unit1;
{$R+} { range checks on: a directive, not a comment }
interface

(* Greets the world. *)
procedure Hello; // prints it

implementation

procedure Hello;
begin
  WriteLn('{ not a comment }');
end;

end.
