#pragma once

#include <string>

// File names handed to and read back from the media libraries. Names are UTF-8
// and pass unchanged, with two exceptions: a name written "unicode:utf8:" + path
// names that path, and a local file whose name the library would take for a
// protocol ("a:b.mp4", "http:x.mp4", or a file in a folder "x:y") is opened
// through the "file:" protocol.
namespace unicode_protocol {

// True when the part before the first ":" is one of the protocols that always
// pass unchanged (":unicode:stream:gopher:http:pipe:rtp:tcp:udp:").
bool HasProtocolPrefix(const std::string& name);
std::string NameForLibrary(const std::string& name);
// The local file the library opens for a name; empty when the name goes to
// another protocol.
std::string LocalPath(const std::string& name);
std::string NameFromLibrary(const std::string& stored);

}  // namespace unicode_protocol
