/*
===============================================================================

	The sound manager each game object embeds: the object's sound
	references. Only its owner and the release of every reference exist so
	far (recorded in the call trace); playing comes with the per-object
	sound manager's own work.

===============================================================================
*/
#ifndef EF_NEW_SOUND_MGR_H
#define EF_NEW_SOUND_MGR_H

#include "datatypes/base/DTTypes.h"

class EFGameObject;

class EFNewSoundMgr {
public:
	explicit				EFNewSoundMgr( EFGameObject* owner );

							EFNewSoundMgr( const EFNewSoundMgr& ) = delete;
	EFNewSoundMgr&			operator=( const EFNewSoundMgr& ) = delete;

	// Releases every sound reference of the object.
	void					DeleteAllSoundReferences();

	EFGameObject*			GetOwner() const { return mpoOwner; }

private:
	EFGameObject*			mpoOwner;
};

#endif
