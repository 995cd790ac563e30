program ArgumentArrayHoldingArray;
// A VARIANT element holding an array is an array of arrays too.
var
  O: IDispatch;
  Mixed: array of Variant; Ints: array of Integer;
begin
  O := CreateOleObject('org.quoll.TestServer');
  Ints := [1];
  SetArrayLength(Mixed, 1);
  Mixed[0] := Ints;
  O.EchoVariantArray(Mixed);  // expect error: could not convert parameter
end.
