// The conversation between the automation client (cad_companion_client) and
// the companion CAD program coordconv-cad over a local socket.
//
// Each message is one line of compact JSON (UTF-8) ending in "\n".
//   request:  {"call": MEMBER, "object": HANDLE, ...arguments}
//   reply:    {"result": VALUE} or {"error": TEXT}
// Members and their arguments:
//   SetVisible {value: bool}
//   ActiveDocument -> handle;  ModelSpace, Utility {object: document} -> handle
//   GetVariable {object, name} -> number (with "integer": true) or text
//   GetString {object, allow_blanks, prompt} -> text
//   GetPoint {object, prompt, [base: [x, y, z]]} -> [x, y, z]
//   AddHatch {object, pattern_type, pattern_name, associative} -> handle
//   AddCircle {object, centre: [x, y, z], radius} -> handle
//   AppendOuterLoop {object: hatch, loop: [handles]}
//   AddLightWeightPolyLine {object, vertices: [x0, y0, x1, y1, ...]} -> handle
//   AddLine {object, start, end} -> handle
//   Update {object: entity}
//   AddText {object, text, insertion, height} -> handle
// Reals travel in the shortest text that reads back to the same double.
#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "tools/cad/cad_automation.h"

namespace coordconv::cad_protocol {

inline constexpr const char* kDefaultServerName = "coordconv-cad";
inline constexpr const char* kServerEnvironmentVariable = "COORDCONV_CAD_SERVER";

// The server name clients and the companion use when none is given.
QString DefaultServerName();

// Where the socket of server `name` lives. A bare name goes into the user's
// runtime folder ($XDG_RUNTIME_DIR, or Qt's private per-user fallback), not
// into the shared /tmp, where another user could take the name first; a
// name with a "/" is a path already. (On Windows, a pipe name as it is.)
QString ServerPath(const QString& name);

// True when the peer at the other end of a connected local socket runs as
// this user (always true where the system cannot tell).
bool PeerIsThisUser(qintptr socket_descriptor);

QJsonArray PointToJson(const CadPoint& point);
// A three-element array of numbers; anything else fails with CadError.
CadPoint PointFromJson(const QJsonValue& value);

// One message as its line, "\n" included.
QByteArray EncodeMessage(const QJsonObject& message);
// A received line (without or with its "\n"); a line that is no JSON object
// fails with CadError.
QJsonObject DecodeMessage(const QByteArray& line);

}  // namespace coordconv::cad_protocol
