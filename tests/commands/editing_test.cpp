// Rows in every layout, inserting and deleting subtracks, and the two editing dialogs driven
// through their controls and the shared dialog procedure.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "commands/commands.h"
#include "commands/editing.h"
#include "commands_fixture.h"
#include "host/callback_guard.h"
#include "resources/resource_ids.h"
#include "tracklist/platform.h"

namespace tarnix::test {
namespace {

using Strings = std::vector<std::string>;

std::string Field(HWND dialog, int id) { return FromWindowText(GetDlgItem(dialog, id)).c_str(); }

Strings TimeFields() {
  HWND d = ThePlugin().subtrackDialog();
  return {Field(d, IDC_MINUTES), Field(d, IDC_SECONDS), Field(d, IDC_FRAMES)};
}

// The up-down's report as the control sends it to its dialog.
LRESULT SendDelta(int id, int delta) {
  HWND control = GetDlgItem(ThePlugin().subtrackDialog(), id);
  NMUPDOWN notice{};
  notice.hdr.hwndFrom = control;
  notice.hdr.idFrom = static_cast<UINT_PTR>(id);
  notice.hdr.code = UDN_DELTAPOS;
  notice.iDelta = delta;
  return SendMessageA(ThePlugin().subtrackDialog(), WM_NOTIFY, static_cast<WPARAM>(id),
                      reinterpret_cast<LPARAM>(&notice));
}

void Type(int id, const char* text) { SetDlgItemTextA(ThePlugin().subtrackDialog(), id, text); }

void Press(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

class RowsTest : public CommandsTest {};

TEST_F(RowsTest, SingleTrackLayouts) {
  UseSingleTrack("Concert", {83456});
  List().artist = "The Band";
  struct Case {
    bool showTrack, topTrack;
    Strings rows;
    const char* title;
  } const cases[] = {
      {true, false, {"The Band - Concert", "     Part 1\t 1:23"}, ""},
      {false, false, {"     Part 1\t 1:23"}, "The Band - Concert"},
      {true, true, {"     Part 1\t 1:23"}, "The Band - Concert"},
  };
  for (const Case& c : cases) {
    ThePlugin().settings().showTrack = c.showTrack;
    ThePlugin().settings().topTrack = c.topTrack;
    ThePlugin().title()->SetText("");
    RebuildRows(ThePlugin());
    EXPECT_EQ(RowTexts(), c.rows);
    EXPECT_STREQ(ThePlugin().title()->Text().c_str(), c.title);
  }
  // With track names off, subtrack 1 is row 0.
  EXPECT_EQ(RowKeys(), (std::vector<int32_t>{MakeItemId(1, 1)}));
}

TEST_F(RowsTest, MultiTrackLayouts) {
  UseCd(2, 1);
  List().artist = "A";
  List().album = "B";
  List().tracks[1].AddSubtrack("Solo", 65160);
  ThePlugin().settings().showTrack = true;
  ThePlugin().settings().topTrack = false;
  RebuildRows(ThePlugin());
  EXPECT_EQ(RowTexts(), (Strings{"A - B", "     Track 1", "     Track 2", "          Solo\t 1:05"}));
  EXPECT_EQ(RowKeys(), (std::vector<int32_t>{0, MakeItemId(1, 0), MakeItemId(2, 0), MakeItemId(2, 1)}));
  ThePlugin().settings().topTrack = true;
  RebuildRows(ThePlugin());
  EXPECT_EQ(RowTexts(), (Strings{"     Track 1", "     Track 2", "          Solo\t 1:05"}));
  EXPECT_STREQ(ThePlugin().title()->Text().c_str(), "A - B");
  ThePlugin().settings().showTrack = false;
  RebuildRows(ThePlugin());
  EXPECT_EQ(RowTexts(), (Strings{"Track 1", "Track 2", "     Solo\t 1:05"}));
}

TEST_F(RowsTest, NoPlayingTrackMeansNoRows) {
  UseSingleTrack("Concert", {1000});
  ThePlugin().playback().currentTrack = 0;
  RebuildRows(ThePlugin());
  EXPECT_TRUE(RowTexts().empty());
}

class InsertDeleteTest : public CommandsTest {};

TEST_F(InsertDeleteTest, InsertAfterTheSelectionWhileStopped) {
  UseSingleTrack("Concert", {120000});
  Player().Stop();
  View().SelectByKey(MakeItemId(1, 1));
  CmdInsertSubtrack(ThePlugin());
  ASSERT_EQ(List().tracks[0].Count(), 3);
  EXPECT_STREQ(List().tracks[0].subtracks[2].name.c_str(), "New subsong");
  EXPECT_EQ(List().tracks[0].subtracks[2].time, 120001);
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 2));
  EXPECT_TRUE(List().modified);
}

TEST_F(InsertDeleteTest, NothingSelectedAndStoppedInsertsNothing) {
  UseSingleTrack("Concert", {});
  Player().Stop();
  ASSERT_EQ(View().SelectedRow(), -1);
  CmdInsertSubtrack(ThePlugin());
  EXPECT_EQ(List().tracks[0].Count(), 1);
  EXPECT_FALSE(List().modified);
}

TEST_F(InsertDeleteTest, InsertAtThePlayingTimeBecomesThePlayingRow) {
  UseSingleTrack("Concert", {600000});
  PlayFrom(300000);
  CmdInsertSubtrack(ThePlugin());
  ASSERT_EQ(List().tracks[0].Count(), 3);
  const int32_t t = List().tracks[0].subtracks[1].time;
  EXPECT_GE(t, 300000);
  EXPECT_LT(t, 310000);
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 1));
  EXPECT_EQ(View().CurrentKey(), MakeItemId(1, 1));
}

TEST_F(InsertDeleteTest, CmdInsertGoesOneMillisecondAfterTheRowWhilePlaying) {
  UseSingleTrack("Concert", {5000});
  PlayFrom(60000);
  for (ItemId row : {MakeItemId(1, 0), MakeItemId(1, 2)}) {
    View().SelectByKey(row);
    const int32_t base = List().TimeOf(row);
    CmdInsert(ThePlugin());
    const ItemId added = View().SelectedKey();
    EXPECT_EQ(List().TimeOf(added), base + 1);
    EXPECT_STREQ(List().SubtrackOf(added)->name.c_str(), "New subsong");
  }
}

TEST_F(InsertDeleteTest, DeleteKeepsRepeatOnTheSameSubtrackOrTurnsItOff) {
  UseSingleTrack("Concert", {1000, 2000, 3000});
  Shared().repeatItem = MakeItemId(1, 3);
  View().SelectByKey(MakeItemId(1, 1));
  CmdDelete(ThePlugin());
  EXPECT_EQ(Shared().repeatItem, MakeItemId(1, 2));  // the same subtrack, one index lower
  View().SelectByKey(MakeItemId(1, 2));
  CmdRemoveSubtrack(ThePlugin());
  EXPECT_EQ(Shared().repeatItem, kNoItem);  // the repeated one is gone
  EXPECT_EQ(List().tracks[0].Count(), 2);
}

TEST_F(InsertDeleteTest, DeletingTheLastSelectsTheNewLastAndTrackRowsStay) {
  UseSingleTrack("Concert", {1000, 2000});
  View().SetCurrentByKey(MakeItemId(1, 2));
  View().SelectByKey(MakeItemId(1, 2));
  CmdDelete(ThePlugin());
  EXPECT_EQ(List().tracks[0].Count(), 2);
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 1));
  EXPECT_EQ(View().CurrentRow(), 1);  // the playing row moved up with the deletion
  View().SelectByKey(MakeItemId(1, 0));
  CmdDelete(ThePlugin());
  EXPECT_EQ(List().tracks[0].Count(), 2);
}

TEST_F(InsertDeleteTest, ContextMenuStatesFollowRepeatAndSelection) {
  UseSingleTrack("Concert", {1000});
  auto state = [](UINT position) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE;
    GetMenuItemInfoA(ThePlugin().menus().context, position, TRUE, &info);
    return info.fState;
  };
  View().SelectByKey(MakeItemId(1, 0));
  Shared().repeatItem = kNoItem;
  UpdateContextMenuStates(ThePlugin(), ThePlugin().menus().context);
  EXPECT_FALSE(state(1) & MFS_CHECKED);
  EXPECT_TRUE(state(3) & MFS_GRAYED);  // a track's own row cannot be deleted
  EXPECT_FALSE(state(0) & MFS_GRAYED);

  View().SelectByKey(MakeItemId(1, 1));
  Shared().repeatItem = MakeItemId(1, 1);
  UpdateContextMenuStates(ThePlugin(), ThePlugin().menus().context);
  EXPECT_TRUE(state(1) & MFS_CHECKED);
  EXPECT_FALSE(state(3) & MFS_GRAYED);
}

class SubtrackDialogTest : public CommandsTest {};

TEST_F(SubtrackDialogTest, ShowsTheSelectedSubtrackAndDisablesTimesOfTheTrackRow) {
  UseSingleTrack("Concert", {83456});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  EXPECT_TRUE(IsWindowVisible(ThePlugin().subtrackDialog()));
  EXPECT_EQ(ThePlugin().editing().item, MakeItemId(1, 1));
  EXPECT_EQ(TimeFields(), (Strings{"01", "23", "34"}));
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "Part 1");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(ThePlugin().subtrackDialog(), IDC_FRAMES)));

  View().SelectByKey(MakeItemId(1, 0));  // the dialog follows the selection
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "Concert");
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ThePlugin().subtrackDialog(), IDC_FRAMES)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(ThePlugin().subtrackDialog(), IDC_DELETE_SUBTRACK)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME)));
}

TEST_F(SubtrackDialogTest, FrameUpDownCarriesIntoSecondsAndMinutes) {
  UseSingleTrack("Concert", {60000 + 59000 + 987});  // 01:59:74
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  ASSERT_EQ(TimeFields(), (Strings{"01", "59", "74"}));
  EXPECT_EQ(SendDelta(IDC_FRAMES_SPIN, -1), 1);
  EXPECT_EQ(TimeFields(), (Strings{"02", "00", "00"}));
  EXPECT_EQ(List().tracks[0].subtracks[1].time, 120000);
  EXPECT_EQ(RowTexts()[1], "     Part 1\t 2:00");
}

TEST_F(SubtrackDialogTest, DownAtZeroChangesNothing) {
  UseSingleTrack("Concert", {0});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  List().modified = false;
  SendDelta(IDC_FRAMES_SPIN, 1);
  SendDelta(IDC_SECONDS_SPIN, 1);
  EXPECT_EQ(TimeFields(), (Strings{"00", "00", "00"}));
  EXPECT_FALSE(List().modified);
}

TEST_F(SubtrackDialogTest, TypedFramesMoveTheSubtrackAndStayAsTyped) {
  UseSingleTrack("Concert", {10000});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  Type(IDC_FRAMES, "75");
  EXPECT_EQ(List().tracks[0].subtracks[1].time, 11000);
  EXPECT_EQ(TimeFields(), (Strings{"00", "11", "75"}));
  Type(IDC_SUBTRACK_NAME, "Encore");
  EXPECT_STREQ(List().tracks[0].subtracks[1].name.c_str(), "Encore");
  // The frames left as typed do not carry a second time when another field changes.
  EXPECT_EQ(List().tracks[0].subtracks[1].time, 11000);
  EXPECT_EQ(RowTexts()[1], "     Encore\t 0:11");
}

TEST_F(SubtrackDialogTest, TimePastTheNextSubtrackReordersAndKeepsItSelected) {
  UseSingleTrack("Concert", {10000, 20000});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  Type(IDC_SECONDS, "30");
  EXPECT_STREQ(List().tracks[0].subtracks[2].name.c_str(), "Part 1");
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 2));
  EXPECT_EQ(ThePlugin().editing().item, MakeItemId(1, 2));
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "Part 1");
  EXPECT_EQ(RowTexts(), (Strings{"Concert", "     Part 2\t 0:20", "     Part 1\t 0:30"}));
}

TEST_F(SubtrackDialogTest, NameUpDownStepsWithinTheTrack) {
  UseSingleTrack("Concert", {10000, 20000});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  SendDelta(IDC_SUBTRACK_SPIN, 1);
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 2));
  SendDelta(IDC_SUBTRACK_SPIN, 1);  // past the last: stays
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 2));
  SendDelta(IDC_SUBTRACK_SPIN, -2);
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 0));
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "Concert");
}

TEST_F(SubtrackDialogTest, ButtonsAddDeleteAndCurrentTime) {
  UseSingleTrack("Concert", {10000});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  Player().Stop();
  Press(ThePlugin().subtrackDialog(), IDC_ADD_SUBTRACK);  // stopped: 1 ms after the selection
  ASSERT_EQ(List().tracks[0].Count(), 3);
  EXPECT_EQ(ThePlugin().editing().item, MakeItemId(1, 2));
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "New subsong");
  // The subtrack shown before kept its own name and time.
  EXPECT_STREQ(List().tracks[0].subtracks[1].name.c_str(), "Part 1");
  EXPECT_EQ(List().tracks[0].subtracks[1].time, 10000);

  PlayFrom(42000);
  Press(ThePlugin().subtrackDialog(), IDC_CURRENT_TIME);
  const int32_t t = List().tracks[0].subtracks[2].time;
  EXPECT_GE(t, 42000);
  EXPECT_LT(t, 50000);
  EXPECT_EQ(View().SelectedKey(), MakeItemId(1, 2));

  Press(ThePlugin().subtrackDialog(), IDC_DELETE_SUBTRACK);
  EXPECT_EQ(List().tracks[0].Count(), 2);
  EXPECT_EQ(ThePlugin().editing().item, MakeItemId(1, 1));
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "Part 1");
}

TEST_F(SubtrackDialogTest, InsertAtThePlayingTimeDoesNotOverwriteTheShownSubtrack) {
  UseSingleTrack("Concert", {5000, 9000});
  View().SelectByKey(MakeItemId(1, 2));
  CmdEditSubtrack(ThePlugin());
  PlayFrom(6000);
  CmdInsertSubtrack(ThePlugin());  // lands before the subtrack the dialog showed
  ASSERT_EQ(List().tracks[0].Count(), 4);
  EXPECT_STREQ(List().tracks[0].subtracks[2].name.c_str(), "New subsong");
  EXPECT_STREQ(List().tracks[0].subtracks[3].name.c_str(), "Part 2");
  EXPECT_EQ(List().tracks[0].subtracks[3].time, 9000);
  EXPECT_EQ(ThePlugin().editing().item, MakeItemId(1, 2));
}

TEST_F(SubtrackDialogTest, EnterPlaysEscAppliesAndHides) {
  UseSingleTrack("Concert", {10000});
  PlayFrom(0);
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  ClearLog();
  Press(ThePlugin().subtrackDialog(), IDOK);
  EXPECT_EQ(Actions(), (Strings{"code106:10000"}));
  EXPECT_TRUE(IsWindowVisible(ThePlugin().subtrackDialog()));
  SendMessageA(ThePlugin().subtrackDialog(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(ThePlugin().subtrackDialog()));
  EXPECT_EQ(ThePlugin().editing().item, kNoItem);
}

TEST_F(SubtrackDialogTest, HeaderSelectionKeepsTheShownSubtrack) {
  UseCd(2, 1);
  List().tracks[0].AddSubtrack("Late", 30000);
  RebuildRows(ThePlugin());
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  View().SelectByKey(kHeaderItem);
  EXPECT_EQ(ThePlugin().editing().item, MakeItemId(1, 1));
  EXPECT_EQ(Field(ThePlugin().subtrackDialog(), IDC_SUBTRACK_NAME), "Late");
}

TEST_F(SubtrackDialogTest, AFailedPlayerRequestDoesNotUnwindThroughTheDialog) {
  UseSingleTrack("Concert", {10000});
  View().SelectByKey(MakeItemId(1, 1));
  CmdEditSubtrack(ThePlugin());
  Player().SetSilent(true);
  PostThreadMessageA(GetCurrentThreadId(), UM_QUIT, 0, 0);
  Press(ThePlugin().subtrackDialog(), IDOK);  // would throw SendMsgQuit out of the dialog procedure
  Player().SetSilent(false);
  EXPECT_TRUE(CallbackFailed());
  ResetCallbackFailure();
}

class TrackDialogTest : public CommandsTest {};

TEST_F(TrackDialogTest, HeaderRowEditsTrackOneAndEnterApplies) {
  UseCd(2, 2);
  List().album = "Live";
  List().artist = "Band";
  View().SelectByKey(kHeaderItem);
  CmdEditTrack(ThePlugin());
  EXPECT_EQ(ThePlugin().editing().track, 1);
  HWND d = ThePlugin().trackDialog();
  EXPECT_EQ(Field(d, IDC_TRACK_NAME), "Track 1");
  EXPECT_EQ(Field(d, IDC_ALBUM), "Live");
  EXPECT_EQ(Field(d, IDC_ARTIST), "Band");
  SetDlgItemTextA(d, IDC_TRACK_NAME, "Opening");
  SetDlgItemTextA(d, IDC_ARTIST, "The Band");
  Press(d, IDOK);
  EXPECT_FALSE(IsWindowVisible(d));
  EXPECT_STREQ(List().tracks[0].Name().c_str(), "Opening");
  EXPECT_STREQ(List().artist.c_str(), "The Band");
  EXPECT_EQ(RowTexts()[1], "     Opening");
  EXPECT_EQ(ThePlugin().editing().track, -1);

  // Names in scripts the code page lacks go both ways whole.
  List().album = "Звёздная ночь";
  CmdEditTrack(ThePlugin());
  EXPECT_EQ(Field(d, IDC_ALBUM), "Звёздная ночь");
  SetDlgItemTextW(d, IDC_TRACK_NAME, L"\u685C\u306E\u6728 \u2192 \u03A9");
  Press(d, IDOK);
  EXPECT_STREQ(List().tracks[0].Name().c_str(), "桜の木 → Ω");
  EXPECT_STREQ(List().album.c_str(), "Звёздная ночь");
}

TEST_F(TrackDialogTest, EscDiscardsAndEditChoosesTheDialogByRow) {
  UseSingleTrack("Concert", {1000});
  View().SelectByKey(MakeItemId(1, 0));
  CmdEdit(ThePlugin());
  ASSERT_TRUE(IsWindowVisible(ThePlugin().trackDialog()));
  SetDlgItemTextA(ThePlugin().trackDialog(), IDC_TRACK_NAME, "Changed");
  Press(ThePlugin().trackDialog(), IDCANCEL);
  EXPECT_STREQ(List().tracks[0].Name().c_str(), "Concert");
  EXPECT_FALSE(List().modified);
  View().SelectByKey(MakeItemId(1, 1));
  CmdEdit(ThePlugin());
  EXPECT_TRUE(IsWindowVisible(ThePlugin().subtrackDialog()));
}

}  // namespace
}  // namespace tarnix::test
