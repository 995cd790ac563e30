// A method declared in a class but never implemented is reported when the main block is
// reached, naming the class and the method.
type
  TCounter = class
    procedure Reset;
    procedure Step;
  end;

procedure TCounter.Reset;
begin
end;

begin   // expect compile error: unsatisfied forward: TCOUNTER.STEP
// expect position at: begin
end.
