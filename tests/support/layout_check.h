// The checks a person makes when looking at a form: every visible control lies inside its parent, covers
// no sibling, and shows its whole caption in its own font.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace vt::test {

// One line per fault, naming the control by its id and caption. The children of `window` are checked,
// and theirs, down the tree; hidden windows and what they hold are left out. Group boxes may hold other
// controls, a title panel its check box, and a tab control its pages, each wholly: a control reaching
// partly over one of them is a fault.
std::vector<std::string> LayoutProblems(HWND window);

}  // namespace vt::test
