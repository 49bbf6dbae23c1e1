/*
===============================================================================

	Layout of the table `_api_fbeffects` that a module gets from the root table:
	frame-buffer effects.

	Slot order is the interface with the engine; every slot is one
	function pointer wide. Slots the engine does not fill hold a stub that
	returns zero.

===============================================================================
*/
#ifndef LOGIC_TABLE_FBEFFECTS_H
#define LOGIC_TABLE_FBEFFECTS_H

#include "framework/logic/api/LogicApiRecords.h"

#ifdef __cplusplus
extern "C" {
#endif

#define LOGIC_API_FBEFFECTS_SLOTS		21
#define LOGIC_API_FBEFFECTS_PAD_SLOTS	16

// Parameters of a frame distortion (effect type 2), in the module's own
// layout: the object whose model distorts the frame, its level of detail
// and an optional matrix copied by the effect.
typedef struct EFFBDistortionParams {
	u32								ui32First;
	u32								ui32ObjectId;
	u32								ui32Lod;
	DTMatrix *						pMatrix;
} EFFBDistortionParams;

LOGIC_API_SIZE( EFFBDistortionParams, LOGIC_API_BY_POINTER( 16, 24 ) );
LOGIC_API_FIELD( EFFBDistortionParams, ui32ObjectId, 4 );
LOGIC_API_FIELD( EFFBDistortionParams, ui32Lod, 8 );
LOGIC_API_FIELD( EFFBDistortionParams, pMatrix, LOGIC_API_BY_POINTER( 12, 16 ) );

struct _api_fbeffects {
	u32								( *Create )( u32 type, u32 flags );
	void							( *Destroy )( u32 handle );
	void							( *Enable )( u32 handle, u32 on );
	void							( *SetParams )( u32 handle, u32 param, void * data );
	void							( *GetParams )( u32 handle, u32 param, void * data );
	void							( *Pad[LOGIC_API_FBEFFECTS_PAD_SLOTS] )( void );
};

LOGIC_API_SLOT( _api_fbeffects, Create, 0 );
LOGIC_API_SLOT( _api_fbeffects, Destroy, 1 );
LOGIC_API_SLOT( _api_fbeffects, Enable, 2 );
LOGIC_API_SLOT( _api_fbeffects, SetParams, 3 );
LOGIC_API_SLOT( _api_fbeffects, GetParams, 4 );
LOGIC_API_SLOT( _api_fbeffects, Pad, 5 );
LOGIC_API_TABLE_SIZE( _api_fbeffects, LOGIC_API_FBEFFECTS_SLOTS );

#ifdef __cplusplus
}
#endif

#endif
