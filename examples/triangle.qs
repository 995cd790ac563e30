program Triangle;
{ Prints a small triangle of stars and says
  whether each row has an odd or even width. }
const
  Rows = 5;

function Stars(N: Integer): string;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to N do
    Result := Result + '*';
end;

var
  Row: Integer;
  Kind: string;
begin
  for Row := 1 to Rows do
  begin
    case Row mod 2 of
      0: Kind := 'even';
    else
      Kind := 'odd';  // 1, 3, 5
    end;
    Writeln(Stars(Row) + '  (' + Kind + ')');
  end;
  Writeln('That''s all.');
end.
