// The scripted user on the host: the emulation's modal loops give it the turn when idle.
#include "platform/host/emulation.h"
#include "tests/support/scripted_user.h"

namespace scripted {
namespace detail {

INT_PTR PlayWith(ScriptedUser& user, const std::function<INT_PTR()>& ui) {
    hostemu::SetUser([&user] { return user.Turn(); });
    INT_PTR result = ui();
    hostemu::SetUser(nullptr);
    return result;
}

// The emulation does everything at once: a step that cannot be taken now never will be.
unsigned Patience() {
    return 0;
}

bool FolderPickerShown() {
    return hostemu::FolderPickerOpen();
}

bool AnswerFolderPicker(const char* path) {
    hostemu::AnswerFolderPicker(path);
    return true;
}

} // namespace detail
} // namespace scripted
