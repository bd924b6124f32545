#pragma once
// The work of the entry commands on a table, without any window: adding an entry, replacing
// text. The dialogs collect the fields and call these.
