// The page's side of the browser front end, as the C++ calls it: the functions of
// krelmo_web.js (the loop's sleeps and wake-ups, the canvas, menus, dialogs, sound, storage).
#pragma once

#include <cstdint>

extern "C" {

// Sizes the canvas to the client area and sets up the page's own controls and listeners:
// first thing.
void krelmo_page_start(int width, int height);
// From now on the game hears whether it is the active program (krelmo_activation).
void krelmo_watch_activation();

// The loop. krelmo_sleep unwinds the game's stack (Asyncify) and returns when krelmo_wake
// is called from an event, after `timeoutMs` (negative: never), or, for 0, as soon as the
// browser has had its turn: input, sound and a display refresh may all run in it.
void krelmo_sleep(double timeoutMs);
void krelmo_wake();

// One tab of the browser runs the game. Returns once this page holds the lock: at once, or,
// while another tab runs the game, when that tab has gone (the page says so meanwhile).
void krelmo_claim_instance();
// The game has ended and saved its settings: another tab may take over.
void krelmo_release_instance();
// The page tells the player the game has ended (File > Exit).
void krelmo_game_ended();

// The canvas: `rgba` holds width x height pixels, alpha opaque.
void krelmo_present(const std::uint8_t* rgba, int width, int height);

// The pointer: hidden or shown over the canvas, and held (Pointer Lock) or let go.
void krelmo_pointer_hidden(int hidden);
void krelmo_pointer_lock(int lock);

// The menu bar: an item (text null: a separator; submenu null: in the top menu itself) and
// its state word; commands come back through krelmo_menu_command.
void krelmo_menu_add(const char32_t* menu, const char32_t* submenu, const char32_t* text, int id,
                     int state);
void krelmo_menu_state(int id, int state);

// Dialogs, each modal over the canvas until answered. A template's frame and controls are in
// pixels of the client area, scaled by the page as the canvas is.
int krelmo_message_box(const char32_t* caption, const char32_t* text, int yesNo, int icon);
int krelmo_dialog_open(const char32_t* caption, int left, int top, int width, int height,
                       int centred);
void krelmo_dialog_add(int dialog, int kind, int id, const char32_t* text, int left, int top,
                       int width, int height);
void krelmo_dialog_add_name_box(int dialog, int left, int top, int width, int height,
                                const char32_t* text, int maxLength);
void krelmo_dialog_show(int dialog);
// 0 while the dialog is open; the button's answer once it was pressed.
int krelmo_dialog_answer(int dialog);
// The name box's text (UTF-8, malloc'd: the caller frees it).
char* krelmo_dialog_text(int dialog);
void krelmo_dialog_close(int dialog);
// Whether a dialog of the game is open, and whether the keyboard belongs to the game: no
// dialog or menu open, and the focus on the game rather than on the help or the page.
int krelmo_keys_to_game();
void krelmo_focus_game();
int krelmo_show_help();

// Sound: a Web Audio output pulling from krelmo_audio_render. False when the browser has none.
int krelmo_audio_open(int output);
void krelmo_audio_close(int output);

// The settings folder kept in the browser's storage: copied into the file system before the
// store reads it, and copied back after each save; the second gives the reason it could not
// (malloc'd), or null.
void krelmo_settings_load(const char* folder);
char* krelmo_settings_keep(const char* folder);

// Replays: a finished match's journal offered for download, and a playback shown over the
// game (name null: the playback has gone) with how it ended. The page's own texts are UTF-8.
void krelmo_offer_replay(const char* text, int length);
void krelmo_playback_shown(const char* name);
void krelmo_playback_outcome(const char* text);
// A line for the player beside the game, for a while.
void krelmo_notice(const char* text);

}  // extern "C"
