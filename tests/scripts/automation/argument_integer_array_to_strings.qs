program ArgumentIntegerArrayToStrings;
// An array converts element by element.
var
  O: IDispatch;
  Ints: array of Integer;
begin
  O := CreateOleObject('org.quoll.TestServer');
  Ints := [1, 2];
  O.EchoStringArray(Ints);  // expect error: could not convert parameter
end.
