/*
===============================================================================

	Root of the data descriptors: the stored description of one instance
	or resource in level data.

	Every descriptor stores "PUID" (its instance id, 0 until loaded) and
	"REFPUID" (the id of the instance it refers to, -1 for none) after its
	UID. Descriptors hold data only; the engine's instance descriptors and
	managers embed them and build their run-time objects from them.

	Descriptors whose data does not end with their members read the rest in
	their own LoadFromStream and add the results of their member load and
	of each further read, rather than stopping at the first failure; after
	a failed block the next read starts wherever the stream stands.

===============================================================================
*/
#ifndef DT_BASE_INSTANCE_DESCRIPTOR_H
#define DT_BASE_INSTANCE_DESCRIPTOR_H

#include "datatypes/streamable/DTStreamable.h"

class DTBaseInstanceDescriptor : public DTStreamable {
public:
							DTBaseInstanceDescriptor();
	virtual					~DTBaseInstanceDescriptor();

	// Writes nothing; 0.
	virtual s32				SaveToBinaryStream( DTBasePersistStream & stream );

	s32						uiInstancePUID;
	s32						uiReferencePUID;
};

#endif
