program UnknownMethod;
// A name the object's table does not hold is an unknown identifier.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  Writeln(IntToStr(O.MethodCount));  // expect error: unknown identifier: METHODCOUNT
end.
