// Readln reads one line of standard input per call (caption and prompt go elsewhere);
// after the end of input it returns the empty text.
// stdin: first answer
// stdin:   second, with blanks
var
  s: string;

begin
  s := Readln('Title', 'Value?');
  Writeln('[' + s + ']');        // expect: [first answer]
  s := Readln('Title', 'Again?');
  Writeln('[' + s + ']');        // expect: [  second, with blanks]
  s := Readln('Title', 'Nothing left?');
  Writeln('[' + s + ']');        // expect: []
  Writeln(Readln('', '') + '!'); // expect: !
end.
