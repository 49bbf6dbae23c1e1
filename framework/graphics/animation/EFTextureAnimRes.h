/*
===============================================================================

	Texture-animation resource ("EI_TEXTURE_ANIM_RES", class 44): keys of
	{texture, end time}, sorted by time; the last key's end time is the
	animation's duration.

	Stored after the resource id and its users: u32 key count, then per
	key an f32 end time (in the text form followed by one separator
	character) and a texture name of at most 2048 characters, looked up
	in the current texture dictionary. The resource holds one reference
	on each texture it found; a name not found leaves a null key, which
	holds nothing and draws the material's own texture. The text form
	names a file holding the same in text. A count the stream cannot hold
	gives -5 with nothing kept.

===============================================================================
*/
#ifndef EF_TEXTURE_ANIM_RES_H
#define EF_TEXTURE_ANIM_RES_H

#include "framework/core/level/EFRessource.h"

struct RwTexture;

constexpr s32 EF_TEXTURE_ANIM_RES_CLASS_ID	= 44;

struct EFTextureAnimKey {
	RwTexture *				mpTexture;
	f32						mfEndTime;
};

class EFTextureAnimRes : public EFRessource {
public:
							EFTextureAnimRes();
	// Drops each key's texture reference, then the keys.
	virtual					~EFTextureAnimRes();

	static void *			Instanciate();
	s32						GetClassID() const override;
	const char *			GetClassName() const override;
	bool					IsOwnedElsewhere() const override;

	s32						LoadPropertiesBinary( DTBasePersistStream & stream ) override;
	s32						LoadPropertiesText( char * word, DTBasePersistStream & stream ) override;
	s32						LoadTextAnim( DTBasePersistStream & stream );
	// Registers the resource after a read that succeeded; frees the keys of one that failed.
	s32						EndLoad( s32 result );

	// The last key's end time, 0 without keys.
	f32						GetDuration() const;

	u32						muiId;
	u32						muiUsers;
	u32						muiNbKeys;
	EFTextureAnimKey *		mpKeys;

private:
	void					FreeKeys();

	bool					mbRegistered;
};

#endif
