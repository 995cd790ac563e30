// A field cannot follow a method heading without a visibility keyword in between.
type
  TThing = class
    A: Integer;
    procedure Run;
    B: Integer;   // expect compile error: end expected
// expect position at: B
  end;

procedure TThing.Run;
begin
end;

begin
end.
