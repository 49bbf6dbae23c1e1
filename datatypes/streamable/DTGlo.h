/*
===============================================================================

	The stored record of one game object in a level file.

	Binary record: u32 UID (the object's id), then in order
		"GLO_FILE_ID" u32, "GLO_ENABLE_BIT_POS" u32,
		"POS", "LOOK_AT", "LOOK_UP", "LOOK_RIGHT" 3 floats each,
		"OBJECT_FLAGS" u32, "SHADOWS_FLAGS" u32,
		"OBJECT_DESCRIPTORS" the descriptor list (class-tagged, 0 ends),
		"MAGIC_SIZE" u32 (the magic data's block size),
		"MAGIC_DATA" the magic data (i32 count, then the bytes).

	The record owns its descriptor list and magic data; the owner given to
	the constructor is only remembered.

===============================================================================
*/
#ifndef DT_GLO_H
#define DT_GLO_H

#include "datatypes/property/DTDummyVector3.h"
#include "datatypes/streamable/DTDynamicPropertyContainer.h"
#include "datatypes/streamable/DTMagicData.h"
#include "datatypes/streamable/DTStreamable.h"

// Ids of a record that has not been loaded.
constexpr u32 DT_GLO_NO_ID			= 0xFFFFFFFF;

// Members a record registers after "UID".
constexpr u32 DT_GLO_MEMBER_COUNT	= 11;

class DTGlo : public DTStreamable {
public:
							DTGlo( void * owner );
	virtual					~DTGlo();

	// Write nothing; 0.
	s32						SaveToStream( DTBasePersistStream & stream ) override;
	s32						SavePropertiesText( DTBasePersistStream & stream ) override;
	s32						SavePropertiesBinary( DTBasePersistStream & stream ) override;

	u32						mui32GloID;
	u32						mui32EnabledBitPos;
	u32						muiGameObjectFlags;
	u32						muiShadowsFlags;
	DTDynamicPropertyContainer	moDescriptorsList;
	void *					mpOwner;
	DTDummyVector3			oPosition;
	DTDummyVector3			oLookAt;
	DTDummyVector3			oLookUp;
	DTDummyVector3			oLookRight;
	DTMagicData				moMagicData;
};

#endif
