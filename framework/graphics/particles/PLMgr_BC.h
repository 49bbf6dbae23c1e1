/*
===============================================================================

	Portable half of the particle manager: particle types and emitters by
	id or name. Placeholder body: the list of types exists (the physics
	walks it; nothing fills it yet); the operations give their failure
	values (an unknown type 1, an unknown emitter 2); Update and Terminate
	are recorded in the call trace.

===============================================================================
*/
#ifndef PL_MGR_BC_H
#define PL_MGR_BC_H

#include "datatypes/base/DTTypes.h"
#include "framework/graphics/particles/PLLinkList.h"
#include "framework/graphics/particles/PLType.h"

class DTEmitterContainerDescriptor;
class EFGameObject;
class PLEmitter_BC;
class PLType_BC;

class PLMgr_BC {
public:
	virtual					~PLMgr_BC() {}

	PLType_BC*				GetType( s32 id );
	// Names compare on their first 31 characters.
	PLType_BC*				GetType( const char* name );
	PLEmitter_BC*			GetEmitter( s32 id );
	PLEmitter_BC*			GetEmitter( const char* name, u32 owner );
	s32						ParticleTypeCreate();
	s32						ParticleTypeDelete( s32 id );
	s32						ParticleEmitterCreate( s32 type, EFGameObject* owner );
	s32						ParticleEmitterDelete( s32 id );
	s32						ParticleEmitterSetType( s32 emitter, s32 type );
	// Creates the emitters a model stores for the object that owns it;
	// nothing yet.
	void					LoadEmitters( DTEmitterContainerDescriptor* emitters, EFGameObject* owner );
	// Deletes the emitters attached to the object; their number.
	u32						DestroyAttachedEmitters( u32 objectId );

	void					Update( f32 dt );
	void					Terminate();

	PLLinkList<PLType> &	GetTypeList() { return moTypeList; }

private:
	PLLinkList<PLType>		moTypeList;
};

#endif
