#include "data/sharedstate.h"

#include "core/calculationsession.h"
#include "core/projectdocument.h"

void resetSharedState()
{
    CalculationSession::current().clear();
    ProjectDocument::current().startNew();
}

void InizFattProt()
{
    CalculationSession::current().clearMeasures();
}
