unit BadChar;
{ A lexical error inside a unit. }

procedure Hello;
begin
  Writeln('hello' ! 'x');
end;

end.
