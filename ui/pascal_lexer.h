// PascalLexer: plugs PascalScanner into QScintilla as a custom lexer. Each token class is one
// style; each line keeps the scanner's line state, so an edit restyles the following lines only as
// far as their starting state changes.
#pragma once

#include <Qsci/qscilexercustom.h>

namespace quoll {

class PascalLexer : public QsciLexerCustom {
  Q_OBJECT

 public:
  explicit PascalLexer(QObject* parent = nullptr);

  const char* language() const override { return "Pascal"; }
  QString description(int style) const override;
  void styleText(int start, int end) override;
};

}  // namespace quoll
