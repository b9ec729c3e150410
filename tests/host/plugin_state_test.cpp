// No member of Plugin is public: code reaches the UI thread's state through the accessors, and
// only start-up and shutdown build it. The compiler checks it: naming a member that is not
// accessible is a substitution failure, so a detector sees only public data members.

#include <type_traits>

#include "host/plugin.h"

namespace tarnix::test {
namespace {

#define TARNIX_PUBLIC_FIELD_DETECTOR(name)                                                                            \
  template <typename T, typename = void>                                                                              \
  struct PublicField_##name : std::false_type {};                                                                     \
  template <typename T>                                                                                               \
  struct PublicField_##name<T, std::void_t<decltype(&T::name)>> : std::is_member_object_pointer<decltype(&T::name)> { \
  };

#define TARNIX_NO_PUBLIC_FIELD(name) \
  TARNIX_PUBLIC_FIELD_DETECTOR(name) \
  static_assert(!PublicField_##name<Plugin>::value, "Plugin::" #name " is public");

// The members under their names, and under the names the accessors now carry.
TARNIX_NO_PUBLIC_FIELD(settings_)
TARNIX_NO_PUBLIC_FIELD(playback_)
TARNIX_NO_PUBLIC_FIELD(trackList_)
TARNIX_NO_PUBLIC_FIELD(editing_)
TARNIX_NO_PUBLIC_FIELD(bookmarkIndex_)
TARNIX_NO_PUBLIC_FIELD(listening_)
TARNIX_NO_PUBLIC_FIELD(unsavedEdits_)
TARNIX_NO_PUBLIC_FIELD(window_)
TARNIX_NO_PUBLIC_FIELD(aboutDialog_)
TARNIX_NO_PUBLIC_FIELD(optionsDialog_)
TARNIX_NO_PUBLIC_FIELD(subtrackDialog_)
TARNIX_NO_PUBLIC_FIELD(trackDialog_)
TARNIX_NO_PUBLIC_FIELD(menus_)
TARNIX_NO_PUBLIC_FIELD(skin_)
TARNIX_NO_PUBLIC_FIELD(frame_)
TARNIX_NO_PUBLIC_FIELD(title_)
TARNIX_NO_PUBLIC_FIELD(list_)
TARNIX_NO_PUBLIC_FIELD(scrollBar_)
TARNIX_NO_PUBLIC_FIELD(timerId_)
TARNIX_NO_PUBLIC_FIELD(listReplaced_)
TARNIX_NO_PUBLIC_FIELD(callWndProcHook_)
TARNIX_NO_PUBLIC_FIELD(getMessageHook_)
TARNIX_NO_PUBLIC_FIELD(settings)
TARNIX_NO_PUBLIC_FIELD(playback)
TARNIX_NO_PUBLIC_FIELD(trackList)
TARNIX_NO_PUBLIC_FIELD(editing)
TARNIX_NO_PUBLIC_FIELD(bookmarkIndex)
TARNIX_NO_PUBLIC_FIELD(listening)
TARNIX_NO_PUBLIC_FIELD(unsavedEdits)
TARNIX_NO_PUBLIC_FIELD(window)
TARNIX_NO_PUBLIC_FIELD(subtrackDialog)
TARNIX_NO_PUBLIC_FIELD(menus)
TARNIX_NO_PUBLIC_FIELD(skin)
TARNIX_NO_PUBLIC_FIELD(frame)
TARNIX_NO_PUBLIC_FIELD(list)
TARNIX_NO_PUBLIC_FIELD(timerId)

// The detectors do see a public data member, and only that.
struct WithPublicField {
  int trackList_ = 0;
  int settings() const { return 0; }

 private:
  int window_ = 0;
};
static_assert(PublicField_trackList_<WithPublicField>::value, "a public data member is seen");
static_assert(!PublicField_settings<WithPublicField>::value, "an accessor is no field");
static_assert(!PublicField_window_<WithPublicField>::value, "a private member is not seen");

}  // namespace
}  // namespace tarnix::test
