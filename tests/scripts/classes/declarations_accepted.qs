// Class declarations with visibility sections, fields, methods, constructors, properties
// (read and write through fields or methods), virtual methods, overrides and class
// references are accepted; the script then runs.
type
  TShape = class
  private
    FName: string;
    FSides: Integer;
  protected
    procedure SetSides(Value: Integer);
    function GetLabel: string;
  public
    constructor Create;
    function Area: Integer; virtual;
    function Describe(prefix: string): string;
    property Sides: Integer read FSides write SetSides;
    property Name: string read FName write FName;
    property Caption: string read GetLabel;
  published
    Tag: Integer;
  end;

  TSquare = class(TShape)
  public
    Side: Integer;
    function Area: Integer; override;
  end;

  TBigSquare = class(TSquare)
    function Area: Integer; override;
  end;

  TShapeClass = class of TShape;

  TDrawing = class
    Shapes: array of TShape;
    Kind: TShapeClass;
    procedure Add(var count: Integer; shape: TShape);
  end;

procedure TShape.SetSides(Value: Integer);
begin
  FSides := Value;
end;

function TShape.GetLabel: string;
begin
  Result := FName;
end;

constructor TShape.Create;
begin
  FName := 'shape';
end;

function TShape.Area: Integer;
begin
  Result := 0;
end;

function TShape.Describe(prefix: string): string;
begin
  Result := prefix + FName;
end;

function TSquare.Area: Integer;
begin
  Result := Side * Side;
end;

function TBigSquare.Area: Integer;
begin
  Result := 100;
end;

procedure TDrawing.Add(var count: Integer; shape: TShape);
begin
  count := count + 1;
end;

var
  drawing: TDrawing;
  shape: TShape;

begin
  Writeln('classes declared');   // expect: classes declared
end.
