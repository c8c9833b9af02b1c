// The settings folder: where the ini files, and the files the program writes for
// itself (such as automatic backups), live. $NARVO_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/narvo, else ~/.config/narvo. It is created on first write.
#pragma once

#include <string>

namespace narvo {

// The folder's path, without a trailing '/'. Read from the environment at each call.
std::string SettingsFolder();

// Creates the settings folder (and the folders above it) when missing; throws
// EFileError naming the folder when that fails.
void EnsureSettingsFolder();

// The full path of a bare file name in the settings folder. Names there match
// without case: when a file of that name in another case exists, its name is used
// (an exact match first). A name holding '/' is returned unchanged.
std::string SettingsFilePath(const std::string& Name);

}  // namespace narvo
