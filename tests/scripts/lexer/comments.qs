// Brace, parenthesis-star and line comments are dropped wherever they stand.
var
  x: Integer;

{ A brace comment
  over several lines, holding (* and // without effect. }
(* A parenthesis-star comment holding { and } and a lone ) *)

begin
  x := 1 { inside an expression } + 2;
  if x = 3 then
    Writeln('brace comment skipped');        // expect: brace comment skipped
  x := 1 (*) + 5 (* the comment before the plus sign was only three characters *);
  if x = 6 then
    Writeln('(*) is a complete comment');    // expect: (*) is a complete comment
  x := 10 // a line comment ends at the line break
    - 4;
  if x = 6 then
    Writeln('line comment skipped');         // expect: line comment skipped
  x := 2 (* a star * and a ( inside *) * 3;
  if x = 6 then
    Writeln('stars inside skipped');         // expect: stars inside skipped
  x := 7 div{}7;
  if x = 1 then
    Writeln('empty comment separates');      // expect: empty comment separates
end.
