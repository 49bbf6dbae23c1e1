/*
===============================================================================

	Animation node that swaps the texture of one material over time
	("EF_TEXT_ANIM_NODE", class 84).

	It animates either the static world object (id kind 24: the first
	world material whose texture has the animation's texture name, set at
	once every frame) or a 3D object (id kind 15: per atomic the first
	such material, stored at the atomic's level of detail 0-2; the texture
	is put on only while the object draws, through ApplyText and
	RestoreText). A node that found no material stays unconnected and
	ignores Play. Playing on a 3D object puts the node at the head of the
	object's list of playing texture animations; Stop takes it out
	wherever it stands.

	The key search stops at the last key; a key whose texture was not
	found draws the material's own texture.

===============================================================================
*/
#ifndef EF_TEXTURE_ANIM_NODE_H
#define EF_TEXTURE_ANIM_NODE_H

#include "framework/graphics/animation/EFTextureAnimData.h"

struct RpMaterial;
struct RwTexture;
class EFInstance;
class EFTextureAnimRes;

constexpr s32 EF_TEXTURE_ANIM_NODE_CLASS_ID	= 84;
// muiAnimatedObjCLSID values.
constexpr u32 EF_TEXT_ANIM_3D_OBJECT		= 15;
constexpr u32 EF_TEXT_ANIM_STATIC_WORLD		= 24;
// Levels of detail a 3D object's node keeps a material for.
constexpr u32 EF_TEXT_ANIM_LEVELS			= 3;

class EFTextureAnimNode : public EFTextureAnimData {
public:
							EFTextureAnimNode();
	// The static world's material gets its texture back.
	virtual					~EFTextureAnimNode();

	static void *			Instanciate();

	EFAnimNode *			ShallowCopy() override;
	bool					Initialize( DTCreationParameters * params ) override;
	void					Connect( EFPosData * target ) override;
	void					Play( u32 flags, f32 time ) override;
	f32						Update( f32 dt, DTWorkMemory & workMemory ) override;
	bool					Stop() override;

	// Puts the current key's texture on the object's material of level
	// lod, and the original back.
	void					ApplyText( u32 lod );
	void					RestoreText( u32 lod );

	// The current key's texture, or the original one.
	RwTexture *				GetCurrentTexture() const;

	// Next animation playing on the same 3D object.
	EFTextureAnimNode *		mpSLLNext;
	RpMaterial *			mpMaterial[EF_TEXT_ANIM_LEVELS];
	RwTexture *				mpOriginalTexture;
	u32						muiCurrentKeyIndex;
	u32						muiAnimatedObjCLSID;

private:
	const EFTextureAnimRes *	GetTextureRes() const;
	// Connect for any instance: the static world object is no positioned thing.
	void					ConnectInstance( EFInstance * target );
};

#endif
