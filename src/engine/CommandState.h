#pragma once

namespace th {

// Which commands the update engine lets the user reach; it locks them while it works.
struct CommandState {
    bool trayUpdate = true; // tray "Update Item Info" and the hidden "Set-Up Watch Items"
    bool addRemove = true; // "Add Item", "Remove Item" and the list menu
    bool updateOne = true; // "Update Item"
    bool updateAll = true; // "Update All"
    bool operator==(const CommandState &) const = default;
};

} // namespace th
