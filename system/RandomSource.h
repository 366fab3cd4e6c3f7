// Cryptographic random numbers for the Dynamic Password Mode letters: an attacker who watches
// several locks must not be able to predict the next assignment of letters to points.
#pragma once

// A real number in [0, 1) with 53 random bits from the system's preferred generator.
double CryptoUniform();
