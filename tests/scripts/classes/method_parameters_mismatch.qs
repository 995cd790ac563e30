// A method body's heading must repeat the declared parameters; the mismatch is found once
// the heading is complete, at the token after it.
type
  TThing = class
    procedure Resize(width: Integer);
  end;

procedure TThing.Resize(width: string);
begin   // expect compile error: parameter error
end;

begin
end.
