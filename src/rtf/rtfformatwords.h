#pragma once

#include "rtfcontrolword.h"
#include "rtfformat.h"

namespace kavro {

// Apply a character or paragraph formatting word that needs nothing but the
// properties themselves; false when `word` is not one of them. Words that
// depend on the document (\plain, \f, \s, \pard, ...) are the parser's.
bool ApplyRtfCharacterWord(RtfCharProps &chars, RtfWord word, int parameter, bool hasParameter);
bool ApplyRtfParagraphWord(RtfParaProps &para, RtfWord word, int parameter, bool hasParameter);

} // namespace kavro
