program ArgumentInvalidUtf8;
// Bus texts are UTF-8; a lone byte above 127 is not.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  O.EchoString(#255);  // expect error: could not convert parameter
end.
