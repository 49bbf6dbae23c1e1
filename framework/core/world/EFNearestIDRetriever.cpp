#include "framework/core/world/EFNearestIDRetriever.h"

EFNearestIDRetriever::EFNearestIDRetriever( ObjectRetrieverParams * params, const ObjectMap & map )
	: EFNearestRetriever( params, map ) {
}
