// Between the loop backends and the deferred-release queue they share: every public loop call
// marks itself on the stack, and only the outermost one frees what was released, once per turn
// after its dispatch.
#pragma once

namespace platform::detail {

class TLoopEntry {
public:
    TLoopEntry();
    ~TLoopEntry();
    TLoopEntry(const TLoopEntry&) = delete;
    TLoopEntry& operator=(const TLoopEntry&) = delete;
};

// The end of a turn: frees the released objects when no other loop call is below this one.
void EndOfTurn();

}  // namespace platform::detail
