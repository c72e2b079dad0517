#pragma once

// Back to the state of a program that has just started: no calculation under way, a new project.
void resetSharedState();

// Sets the protection factors to 1: no measure is present (start screen's Avanti).
void InizFattProt();
