#include "framework/core/world/EFNearestMaskRetriever.h"

EFNearestMaskRetriever::EFNearestMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFNearestRetriever( params, map ) {
}
