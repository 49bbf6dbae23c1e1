/*
===============================================================================

	The stream opener of the level loader: a DTIOStream that also keeps a
	list of the objects it created.

===============================================================================
*/
#ifndef DT_STREAM_LOADER_H
#define DT_STREAM_LOADER_H

#include "datatypes/streamable/DTIOStream.h"
#include "datatypes/containers/DTVector.h"

class DTStreamable;

class DTStreamLoader : public DTIOStream {
public:
							DTStreamLoader();
	virtual					~DTStreamLoader();

	// 1.
	s32						GetType() const override;

	DTVector<DTStreamable *> &	GetLoadedObjects() { return moLoadedObjects; }

private:
	DTVector<DTStreamable *>	moLoadedObjects;
	u32						mui32Reserved;
};

#endif
