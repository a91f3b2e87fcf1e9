#pragma once
// The interpreter's talk and dialog flags, as the dialog painter and the
// input read and write them: `running`, `talkMinShown`, `talkDismissed`,
// `dialogOpening` and `dialogStarted` of class `script`.
//
// Each accessor binds to the interpreter's field of that name. While the
// interpreter does not declare a field yet, a single stand-in value is used
// in its place, so both sides build on their own.
#include <cstdint>

namespace talk {

#define TEV_TALK_FIELD(Accessor, field)                                                                      \
    template <class Script>                                                                                  \
    int32_t& Accessor(Script& s)                                                                             \
    {                                                                                                        \
        if constexpr (requires { s.field; }) {                                                               \
            return s.field;                                                                                  \
        } else {                                                                                             \
            static int32_t standIn = 0;                                                                      \
            return standIn;                                                                                  \
        }                                                                                                    \
    }

TEV_TALK_FIELD(Running, running)
TEV_TALK_FIELD(TalkMinShown, talkMinShown)
TEV_TALK_FIELD(TalkDismissed, talkDismissed)
TEV_TALK_FIELD(DialogOpening, dialogOpening)
TEV_TALK_FIELD(DialogStarted, dialogStarted)

#undef TEV_TALK_FIELD

} // namespace talk
