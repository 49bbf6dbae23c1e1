/*
	Texture animations on the sample model and on a static world:
	connecting by texture name, the key search (wrap, last key, keys
	without a texture), textures put on the world at once but on a 3D
	object only while it draws, levels of detail past 2 left alone, and
	leaving the object's list from its head, middle and tail.
*/
#include "ModelTestBench.h"

#include "datatypes/descriptor/DTTextureAnimationDescriptor.h"
#include "datatypes/memory/DTWorkMemory.h"
#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/EFStatic3dObj.h"
#include "framework/graphics/animation/EFTextureAnimNode.h"
#include "framework/graphics/animation/EFTextureAnimRes.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "graphics3d/world/RpWorld.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolModelResourceWriter.h"
#include "tools/lib/level/ToolTextureAnimResWriter.h"

#include <array>
#include <string>

namespace {

constexpr u32 MODEL_ID = 0x5B000032;

std::vector<std::string> gDrawnTextures;

RpAtomic* Record( RpAtomic* atomic ) {
	const RwTexture* const texture = atomic->geometry->matList.materials[0]->texture;
	gDrawnTextures.push_back( texture != nullptr ? texture->name : "" );
	return atomic;
}

class EFTextureAnimNodeTest : public ModelTestBench {
protected:
	void SetUp() override {
		ModelTestBench::SetUp();
		dictionary = MakeCurrentDictionary( { "skin", "frameA", "frameB", "other" } );
		record = SampleModelRecord( MODEL_ID );
		object = MakeObject( LoadRecord( record, MODEL_ID ) );
		object->SetUID( 0x0F000001 );
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			ApSetAtomicCallBackRender( atomic, Record );
			RpMaterialSetTexture( atomic->geometry->matList.materials[0], RwTexDictionaryFindNamedTexture( dictionary, "skin" ) );
		}
		// Keys: frameA to 0.5, a texture the dictionary lacks to 1.0, frameB to 1.5.
		ToolTextureAnimRes stored;
		stored.keys = { { 0.5f, "frameA" }, { 1.0f, "missing" }, { 1.5f, "frameB" } };
		std::vector<u8> bytes = ToolTextureAnimResWriter::Encode( stored );
		DTMemoryPersistStream stream( reinterpret_cast<char*>( bytes.data() ), static_cast<s32>( bytes.size() ) );
		// Loaded outside the factory: the test holds it.
		EFRessourcesMgr* const factory = gpoRessourcesMgr;
		gpoRessourcesMgr = nullptr;
		resource = new EFTextureAnimRes;
		EXPECT_EQ( resource->LoadPropertiesBinary( stream ), 0 );
		gpoRessourcesMgr = factory;
		resource->muiRefCount = 1;
	}
	void TearDown() override {
		for ( EFTextureAnimNode* node : nodes ) {
			delete node;
		}
		if ( resource->Release() != 0 ) {
			delete resource;
		}
		delete object;
		RwTexDictionarySetCurrent( nullptr );
		RwTexDictionaryDestroy( dictionary );
		gDrawnTextures.clear();
		ModelTestBench::TearDown();
	}

	// A node over the resource for the texture name, connected to the
	// target (the object by default).
	EFTextureAnimNode* Node( const char* name, EFInstance* target = nullptr ) {
		EFTextureAnimNode* const node = new EFTextureAnimNode;
		nodes.push_back( node );
		node->mpAnimRes = resource;
		resource->muiRefCount++;
		DTTextureAnimationDescriptor descriptor;
		descriptor.moTextureFileName = name;
		DTCreationParameters params = { &descriptor, target != nullptr ? target : object };
		EXPECT_TRUE( node->Initialize( &params ) );
		return node;
	}

	std::vector<std::string> Draw( const u16 lod ) {
		gDrawnTextures.clear();
		object->Render( lod );
		return gDrawnTextures;
	}

	// What Render(lod) draws when the node's material of that level shows
	// texture (each atomic keeps only its own material).
	std::vector<std::string> Expected( const EFTextureAnimNode& node, const u32 lod, const std::string& texture ) {
		std::vector<std::string> expected;
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			if ( ApGetAtomicLod( atomic ) == lod ) {
				expected.push_back( atomic->geometry->matList.materials[0] == node.mpMaterial[lod] ? texture : "skin" );
			}
		}
		return expected;
	}

	std::vector<EFTextureAnimNode*> List() const {
		std::vector<EFTextureAnimNode*> list;
		for ( EFTextureAnimNode* node = object->mpPlayingTextAnim.mpFirst; node != nullptr; node = node->mpSLLNext ) {
			list.push_back( node );
		}
		return list;
	}

	RwTexDictionary* dictionary = nullptr;
	std::vector<u8> record;
	EF3dObj* object = nullptr;
	EFTextureAnimRes* resource = nullptr;
	std::vector<EFTextureAnimNode*> nodes;
	u8 memory[64];
	DTWorkMemory work{ memory, sizeof( memory ) };
};

TEST_F( EFTextureAnimNodeTest, KeysFollowTheTimeAndShowOnlyWhileTheObjectDraws ) {
	EFTextureAnimNode* const node = Node( "skin" );
	ASSERT_EQ( node->muiAnimatedObjCLSID, EF_TEXT_ANIM_3D_OBJECT );
	ASSERT_NE( node->mpMaterial[0], nullptr );
	ASSERT_NE( node->mpMaterial[1], nullptr );
	EXPECT_EQ( node->mpMaterial[2], nullptr );
	EXPECT_EQ( node->mfDuration, 1.5f );
	node->Play( AS_LOOP, 0.0f );
	EXPECT_EQ( List(), ( std::vector<EFTextureAnimNode*>{ node } ) );
	struct Step {
		f32 dt;
		u32 key;
		const char* drawn;		// the texture the level-0 atomics draw with
	};
	const Step steps[] = {
		{ 0.25f, 0, "frameA" },
		{ 0.5f, 1, "skin" },		// a key without a texture draws the material's own
		{ 0.5f, 2, "frameB" },
		{ 0.5f, 0, "frameA" },		// 1.75 wraps to 0.25: back to key 0 at once
	};
	for ( const Step& step : steps ) {
		SCOPED_TRACE( step.dt );
		node->Update( step.dt, work );
		EXPECT_EQ( node->muiCurrentKeyIndex, step.key );
		EXPECT_EQ( Draw( 0 ), Expected( *node, 0, step.drawn ) );
		EXPECT_EQ( Draw( 1 ), Expected( *node, 1, step.drawn ) );
		// Between drawings the materials show their own texture.
		EXPECT_EQ( std::string( Atomics( object->mpClump )[0]->geometry->matList.materials[0]->texture->name ), "skin" );
	}
	// Played without clamp or loop the time runs past the last key: the
	// search stops there.
	node->Stop();
	node->Play( 0, 0.0f );
	node->Update( 10.0f, work );
	EXPECT_EQ( node->muiCurrentKeyIndex, 2u );
}

TEST_F( EFTextureAnimNodeTest, AnUnmatchedNameStaysUnconnectedAndStopsLeaveTheListWhole ) {
	EFTextureAnimNode* const stray = Node( "other" );
	EXPECT_EQ( stray->muiAnimatedObjCLSID, 0u );
	stray->Play( AS_LOOP, 0.0f );
	EXPECT_EQ( stray->muiAnimState, AS_STOPPED );
	EXPECT_TRUE( List().empty() );
	struct Case {
		const char* name;
		u32 stopped;	// index in play order; the list is in reverse
	};
	const Case cases[] = { { "head", 2 }, { "middle", 1 }, { "tail", 0 } };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		EFTextureAnimNode* played[3];
		for ( EFTextureAnimNode*& node : played ) {
			node = Node( "skin" );
			node->Play( AS_LOOP, 0.0f );
		}
		played[c.stopped]->Stop();
		std::vector<EFTextureAnimNode*> expected;
		for ( s32 i = 2; i >= 0; i-- ) {
			if ( static_cast<u32>( i ) != c.stopped ) {
				expected.push_back( played[i] );
			}
		}
		EXPECT_EQ( List(), expected );
		EXPECT_EQ( object->mpPlayingTextAnim.mpLast, expected.back() );
		for ( EFTextureAnimNode* node : played ) {
			node->Stop();
		}
		EXPECT_TRUE( List().empty() );
		EXPECT_EQ( object->mpPlayingTextAnim.mpLast, nullptr );
	}
}

TEST_F( EFTextureAnimNodeTest, TheWorldSwapsAtOnceObjectsWhileDrawingAndStrayTargetsNever ) {
	// The static world: materials showing "other" and "skin".
	EFStatic3dObj world;
	world.SetUID( EF_STATIC_3D_OBJ_ID_BASE );
	const RwBBox box = { { 1.0f, 1.0f, 1.0f }, { -1.0f, -1.0f, -1.0f } };
	world.SetWorld( RpWorldCreate( &box ) );
	for ( const char* name : { "other", "skin" } ) {
		RpMaterial* const material = RpMaterialCreate();
		RpMaterialSetTexture( material, RwTexDictionaryFindNamedTexture( dictionary, name ) );
		_rpMaterialListAppendMaterial( &world.GetWorld()->matList, material );
		RpMaterialDestroy( material );
	}
	RpMaterial* const worldSkin = world.GetWorld()->matList.materials[1];
	RpMaterial* const objectSkin = Atomics( object->mpClump )[0]->geometry->matList.materials[0];
	struct Case {
		const char* name;
		bool onWorld;
		const char* texture;		// the descriptor's
		bool level3;				// the object's level-1 atomics moved to level 3
		u32 kind;
		// Per update of 0.25, 0.5, 0.5 s (keys frameA, a missing texture,
		// frameB): the skin material between drawings, and what level 0
		// draws (null: not drawn).
		std::array<const char*, 3> between;
		std::array<const char*, 3> drawn;
	};
	const Case cases[] = {
		{ "world, at once", true, "skin", false, EF_TEXT_ANIM_STATIC_WORLD, { "frameA", "skin", "frameB" }, {} },
		{ "world, no material of the name", true, "frameB", false, 0, { "skin", "skin", "skin" }, {} },
		{ "world, a name the dictionary lacks", true, "absent", false, 0, { "skin", "skin", "skin" }, {} },
		{ "object, while drawing", false, "skin", false, EF_TEXT_ANIM_3D_OBJECT, { "skin", "skin", "skin" },
		  { "frameA", "skin", "frameB" } },
		{ "object, level 3 ignored", false, "skin", true, EF_TEXT_ANIM_3D_OBJECT, { "skin", "skin", "skin" },
		  { "frameA", "skin", "frameB" } },
		{ "object, a name the dictionary lacks", false, "absent", false, 0, { "skin", "skin", "skin" },
		  { "skin", "skin", "skin" } },
	};
	const f32 steps[] = { 0.25f, 0.5f, 0.5f };
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			ApAtomicData* const data = ApAtomicGetData( atomic );
			const u32 lod = ( data->uiData >> 16 ) & 0xF;
			if ( c.level3 && lod == 1 ) {
				data->uiData = ( data->uiData & ~0xF0000u ) | ( 3u << 16 );
			}
		}
		EFTextureAnimNode* const node = Node( c.texture, c.onWorld ? static_cast<EFInstance*>( &world ) : object );
		EXPECT_EQ( node->muiAnimatedObjCLSID, c.kind );
		node->Play( AS_LOOP, 0.0f );
		EXPECT_EQ( node->muiAnimState, c.kind != 0 ? AS_LOOP : AS_STOPPED );
		if ( c.level3 ) {
			EXPECT_EQ( node->mpMaterial[1], nullptr );
		}
		RpMaterial* const watched = c.onWorld ? worldSkin : objectSkin;
		for ( u32 s = 0; s < 3; s++ ) {
			SCOPED_TRACE( s );
			node->Update( steps[s], work );
			EXPECT_STREQ( watched->texture->name, c.between[s] );
			if ( c.drawn[0] != nullptr ) {
				for ( const std::string& drawn : Draw( 0 ) ) {
					EXPECT_EQ( drawn, c.drawn[s] );
				}
				for ( const std::string& drawn : Draw( 3 ) ) {
					EXPECT_EQ( drawn, "skin" );
				}
			}
		}
		EXPECT_EQ( std::string( world.GetWorld()->matList.materials[0]->texture->name ), "other" );
		// The world gets its texture back when the node goes.
		node->Stop();
		nodes.pop_back();
		delete node;
		EXPECT_STREQ( worldSkin->texture->name, "skin" );
		EXPECT_STREQ( objectSkin->texture->name, "skin" );
		EXPECT_TRUE( List().empty() );
	}
}

}
