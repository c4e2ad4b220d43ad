#pragma once

class QComboBox;

namespace Controles {
// Completes the text typed into an editable combo from its list: the first
// entry that begins with the text (case aside) fills the box, with the
// completed part selected so the next key replaces it. A raised `borrando`
// (the user deleted a character) is lowered and nothing is completed. The
// combo's own completer must be off (setCompleter(nullptr)).
void AutoCompletaCombo(QComboBox* combo, bool& borrando);
} // namespace Controles
