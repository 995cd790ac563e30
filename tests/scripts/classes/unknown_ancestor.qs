// The ancestor of a class must be declared.
type
  TChild = class(TMissing)   // expect compile error: unknown identifier: TMISSING
// expect position at: TMissing
  end;
begin
end.
