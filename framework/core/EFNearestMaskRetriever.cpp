#include "framework/core/EFNearestMaskRetriever.h"

EFNearestMaskRetriever::EFNearestMaskRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFNearestRetriever( params, map ) {
}
