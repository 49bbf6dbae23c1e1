#include "datatypes/streamable/DTStreamLoader.h"

DTStreamLoader::DTStreamLoader()
	: mui32Reserved( 0 ) {
	(void)mui32Reserved;
}

DTStreamLoader::~DTStreamLoader() {
}

s32 DTStreamLoader::GetType() const {
	return 1;
}
