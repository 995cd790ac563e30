program ErrorReply;
// An error reply ends the call with the error's name and message; try catches it.
var
  O: IDispatch;
begin
  O := CreateOleObject('org.quoll.TestServer');
  try
    O.Fail;
    Writeln('not reached');
  except
    Writeln('caught');                                        // expect: caught
  end;
  Writeln(IntToStr(O.Sum(1, 2)));                             // expect: 3
  O.Fail;  // expect error: failled calling ole method: org.quoll.TestServer.Error.Refused: The server refuses, as asked.
end.
