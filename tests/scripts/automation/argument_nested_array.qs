program ArgumentNestedArray;
// Arrays of arrays are refused, whatever the signature.
var
  O: IDispatch;
  Nested: array of array of Integer;
begin
  O := CreateOleObject('org.quoll.TestServer');
  SetArrayLength(Nested, 1);
  O.EchoNestedArray(Nested);  // expect error: could not convert parameter
end.
