// A routine that calls itself without end stops with "out of memory" (the host's nesting
// limit is 1000), and the run reports it as an error.
var
  depth: Integer;

procedure Forever; begin depth := depth + 1; Forever; end;   // expect error: out of memory

begin
  Writeln('calling');   // expect: calling
  Forever;
  Writeln('not reached');
end.
