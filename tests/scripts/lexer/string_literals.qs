// String literal runs: doubled quotes, character literals and adjacent literals join into
// one string value.
var
  s: string;

begin
  Writeln('it''s');              // expect: it's
  Writeln('''');                 // expect: '
  Writeln('''quoted''');         // expect: 'quoted'
  Writeln('' + 'empty first');   // expect: empty first
  Writeln('a' 'b');              // expect: a'b
  Writeln('a'#66'c');            // expect: aBc
  Writeln('a'''#66);             // expect: a'B
  Writeln(#72#105);              // expect: Hi
  Writeln(#$41#$62);             // expect: Ab
  Writeln(#321);                 // expect: A
  Writeln('tab'#9'stop');        // expect: tab	stop
  Writeln('up'#13#10'down');     // expect: up
                                 // expect: down
  s := 'x'#39'y';
  Writeln(s);                    // expect: x'y
  Writeln('a // b { c } (* d *)'); // expect: a // b { c } (* d *)
  Writeln('MiXeD cAsE kept');    // expect: MiXeD cAsE kept
end.
