#pragma once

// True only on the lab's installer's computer: its eth0 carries the MAC
// address the lab's topology gives it, which no real machine uses. Checked
// before anything is sent.
bool OnTheLabComputer();
