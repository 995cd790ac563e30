program Properties;
// A readable property is an entry without parameters that reads it, called like a method.
var
  O, Second: IDispatch;
  N: Integer;
begin
  O := CreateOleObject('org.quoll.TestServer');
  N := O.Count;
  Writeln(IntToStr(N));                  // expect: 7
  Writeln(GetType(O.Count));             // expect: LONGINT
  Writeln(O.Greeting);                   // expect: hello
  Writeln(O.Greeting());                 // expect: hello
  Second := CreateOleObject('org.quoll.TestServer:/org/quoll/TestServer/Second');
  Writeln(Second.Label);                 // expect: the second object
  O.Count(1);  // expect error: close round expected
end.
