// Blocks: empty blocks, nested blocks, stray semicolons, no semicolon before END, and call
// statements that need no separator. Tokens after the final period are never read.
var
  x: Integer;
begin
  begin end;
  begin
  end;
  ;;
  begin
    begin
      Writeln('nested');        // expect: nested
    end
  end;
  x := 1;;
  begin x := 2 end;
  if x = 2 then
    Writeln('no semicolon before end');   // expect: no semicolon before end
  Writeln('first') Writeln('second');     // expect: first
                                          // expect: second
  begin Writeln('last') end                 // expect: last
end.
This text after the final period is tokenized but never read; begin end if
