// A method body must belong to a method declared in the class.
type
  TThing = class
    procedure Run;
  end;

procedure TThing.Run;
begin
end;

procedure TThing.Walk;   // expect compile error: unknown identifier: WALK
begin
end;

begin
end.
