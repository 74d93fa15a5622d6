#pragma once

class CliDispatcher;

// kkt-cli find: the register searched on every port at every speed.
void AddFindCommand(CliDispatcher &dispatcher);
