#pragma once

class CliDispatcher;

// The commands that talk to the KKT one request at a time: ports, link, get,
// set, item-get, item-set, clear-base.
void AddDeviceCommands(CliDispatcher &dispatcher);
