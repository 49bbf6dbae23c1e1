/*
	The texture fader on the sample model: both layers' opacities while a
	fade runs, clamping, pause, the end with and without keeping the
	destination, levels of detail 1 and 2 (none here), restarts and null
	names.
*/
#include "ModelTestBench.h"

#include "framework/graphics/ApAtomicDataPlugin.h"
#include "framework/graphics/animation/EFTexFader.h"
#include "graphics3d/core/RwTexDictionary.h"
#include "graphics3d/core/RwTexture.h"
#include "graphics3d/world/RpGeometry.h"
#include "graphics3d/world/RpMaterial.h"
#include "graphics3d/world/RpMaterialList.h"
#include "tools/lib/graphics3d/ToolClumpWriter.h"
#include "tools/lib/graphics3d/ToolSampleModel.h"
#include "tools/lib/level/ToolModelResourceWriter.h"

#include <ostream>
#include <string>

namespace {

constexpr u32 MODEL_ID = 0x5B000031;

// One drawing of an atomic: its first material's texture and alpha, and
// whether the material colour modulated it.
struct Drawn {
	std::string	texture;
	u32			alpha;
	bool		modulated;
	bool		operator==( const Drawn& ) const = default;
};
std::vector<Drawn> gDrawn;

void PrintTo( const Drawn& drawn, std::ostream* out ) {
	*out << "{" << drawn.texture << " " << drawn.alpha << ( drawn.modulated ? " modulated}" : "}" );
}

RpAtomic* Record( RpAtomic* atomic ) {
	const RpMaterial* const material = atomic->geometry->matList.materials[0];
	gDrawn.push_back( { material->texture != nullptr ? material->texture->name : "", material->color.alpha,
						( atomic->geometry->flags & rpGEOMETRYMODULATEMATERIALCOLOR ) != 0 } );
	return atomic;
}

class EFTexFaderTest : public ModelTestBench {
protected:
	void SetUp() override {
		ModelTestBench::SetUp();
		gDrawn.clear();
		dictionary = MakeCurrentDictionary( { "src0", "dst0", "src1", "dst1" } );
		record = SampleModelRecord( MODEL_ID );
		object = MakeObject( LoadRecord( record, MODEL_ID ) );
		// Each level's materials show that level's source texture.
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			ApSetAtomicCallBackRender( atomic, Record );
			const std::string name = "src" + std::to_string( ApGetAtomicLod( atomic ) );
			RpMaterialSetTexture( atomic->geometry->matList.materials[0], RwTexDictionaryFindNamedTexture( dictionary, name.c_str() ) );
		}
	}
	void TearDown() override {
		delete object;
		gDrawn.clear();
		RwTexDictionarySetCurrent( nullptr );
		RwTexDictionaryDestroy( dictionary );
		ModelTestBench::TearDown();
	}

	_sTexFaderParams Request( const f32 time, const u32 flags = 0 ) {
		_sTexFaderParams params = {};
		params.uiFlags = flags;
		params.fTime = time;
		params.pSrcTexture[0] = src0;
		params.pSrcTexture[1] = src1;
		params.pDestTexture[0] = dst0;
		params.pDestTexture[1] = dst1;
		params.fSrcStartRatio = 1.0f;
		params.fSrcEndRatio = 0.0f;
		params.fDestStartRatio = 0.0f;
		params.fDestEndRatio = 1.0f;
		return params;
	}

	// The drawings of level lod's atomics in one Render.
	std::vector<Drawn> Draw( const u16 lod ) {
		gDrawn.clear();
		object->Render( lod );
		return gDrawn;
	}

	EFTexFader& Fader() { return manager->GetTexFader(); }

	// What Render(lod) draws when the atomics of that level showing the
	// faded material (the one the fader found first) draw as given; other
	// materials draw as they are, twice while the object fades.
	std::vector<Drawn> Expected( const u32 lod, const std::vector<Drawn>& faded, const bool fading,
								 const RpMaterial* fadedMaterial ) {
		std::vector<Drawn> expected;
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			if ( ApGetAtomicLod( atomic ) != lod ) {
				continue;
			}
			const RpMaterial* const material = atomic->geometry->matList.materials[0];
			const Drawn own = { material->texture->name, material->color.alpha, fading };
			if ( material == fadedMaterial ) {
				expected.insert( expected.end(), faded.begin(), faded.end() );
			} else {
				expected.insert( expected.end(), fading ? 2u : 1u, own );
			}
		}
		return expected;
	}

	// The material the fader animates at level lod.
	static const RpMaterial* FadedMaterial( const u32 lod ) {
		return EFTexFader_BC::FirstActiveAtomic != nullptr ? EFTexFader_BC::FirstActiveAtomic->mpMaterial[lod] : nullptr;
	}

	char src0[5] = "SRC0";	// names match without regard to case
	char src1[5] = "src1";
	char dst0[5] = "dst0";
	char dst1[5] = "dst1";
	RwTexDictionary* dictionary = nullptr;
	std::vector<u8> record;
	EF3dObj* object = nullptr;
};

TEST_F( EFTexFaderTest, BothLayersFadeOnEachLevelClampedAndPausedAndTheMaterialGetsItsTextureBack ) {
	struct Case {
		const char* name;
		f32 srcStart, srcEnd, destStart, destEnd;
		f32 time;
		std::vector<f32> steps;
		bool pauseAfterFirst;
		u32 srcAlpha, destAlpha;
	};
	const Case cases[] = {
		{ "half-way through 2 s", 1.0f, 0.0f, 0.0f, 1.0f, 2.0f, { 1.0f }, false, 127, 127 },
		{ "a quarter", 1.0f, 0.0f, 0.0f, 1.0f, 2.0f, { 0.5f }, false, 191, 63 },
		{ "ratios beyond 0 and 1 clamp", 3.0f, -3.0f, -1.0f, 2.0f, 1.0f, { 0.1f }, false, 255, 0 },
		{ "a pause keeps the ratios", 1.0f, 0.0f, 0.0f, 1.0f, 2.0f, { 0.5f, 0.5f, 0.5f }, true, 191, 63 },
	};
	for ( const Case& c : cases ) {
		SCOPED_TRACE( c.name );
		_sTexFaderParams params = Request( c.time );
		params.fSrcStartRatio = c.srcStart;
		params.fSrcEndRatio = c.srcEnd;
		params.fDestStartRatio = c.destStart;
		params.fDestEndRatio = c.destEnd;
		EXPECT_EQ( Fader().FadeTo( object, &params ), 1u );
		for ( size_t i = 0; i < c.steps.size(); i++ ) {
			Fader().Update( c.steps[i] );
			EFTexFader_BC::Pause( object, c.pauseAfterFirst ? 1 : 0 );
		}
		EFTexFader_BC::Pause( object, 0 );
		for ( const u16 lod : { u16( 0 ), u16( 1 ) } ) {
			const std::string level = std::to_string( lod );
			const std::vector<Drawn> expected =
				Expected( lod, { { "src" + level, c.srcAlpha, true }, { "dst" + level, c.destAlpha, true } }, true, FadedMaterial( lod ) );
			EXPECT_EQ( Draw( lod ), expected ) << lod;
		}
		// Between drawings the materials show their own textures, opaque,
		// unmodulated.
		for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
			const RpMaterial* const material = atomic->geometry->matList.materials[0];
			EXPECT_EQ( std::string( material->texture->name ), "src" + std::to_string( ApGetAtomicLod( atomic ) ) );
			EXPECT_EQ( material->color.alpha, 255u );
			EXPECT_EQ( atomic->geometry->flags & rpGEOMETRYMODULATEMATERIALCOLOR, 0u );
		}
		// The same source restarts the entry: one entry, counted once.
		EXPECT_EQ( object->muiTexFaderRefCount, 1u );
		EXPECT_NE( EFTexFader_BC::FirstActiveAtomic, nullptr );
		EXPECT_EQ( EFTexFader_BC::FirstActiveAtomic->mpNext, nullptr );
	}
}

TEST_F( EFTexFaderTest, KeepingTheDestinationEndsFaderDrawingEvenAfterARestart ) {
	_sTexFaderParams params = Request( 1.0f, EF_TF_KEEP_DESTINATION );
	Fader().FadeTo( object, &params );
	Fader().Update( 0.5f );
	// Restarted half-way: still one entry, counted once.
	Fader().FadeTo( object, &params );
	EXPECT_EQ( object->muiTexFaderRefCount, 1u );
	Fader().Update( 1.0f );
	// The end: both layers at their end ratios, then the destination stays.
	// The sample's two level-0 atomics share the material: the first
	// drawing ends the fade, the second is a normal one.
	const RpMaterial* const faded = FadedMaterial( 0 );
	ASSERT_NE( faded, nullptr );
	for ( RpAtomic* atomic : Atomics( object->mpClump ) ) {
		ASSERT_TRUE( ApGetAtomicLod( atomic ) != 0 || atomic->geometry->matList.materials[0] == faded );
	}
	EXPECT_EQ( Draw( 0 ), ( std::vector<Drawn>{ { "src0", 0, true }, { "dst0", 255, true }, { "dst0", 255, false } } ) );
	EXPECT_EQ( object->muiTexFaderRefCount, 0u );
	EXPECT_EQ( EFTexFader_BC::FirstActiveAtomic, nullptr );
	// Drawn once, normally, with the destination texture.
	const std::vector<Drawn> after = Expected( 0, { { "dst0", 255, false } }, false, faded );
	EXPECT_EQ( Draw( 0 ), after );
	// Without the flag an ended entry stays and keeps both layers.
	RpMaterialSetTexture( const_cast<RpMaterial*>( faded ), RwTexDictionaryFindNamedTexture( dictionary, "src0" ) );
	_sTexFaderParams again = Request( 0.0f );
	Fader().FadeTo( object, &again );
	const std::vector<Drawn> ended = Expected( 0, { { "src0", 255, true }, { "dst0", 0, true } }, true, FadedMaterial( 0 ) );
	EXPECT_EQ( Draw( 0 ), ended );
	EXPECT_EQ( Draw( 0 ), ended );
	EXPECT_EQ( object->muiTexFaderRefCount, 1u );
}

TEST_F( EFTexFaderTest, NullOrUnknownSourceNamesMatchNothing ) {
	const std::vector<const char*> names = { nullptr, "nothing" };
	for ( const char* name : names ) {
		_sTexFaderParams params = Request( 1.0f );
		params.pSrcTexture[0] = const_cast<char*>( name );
		EXPECT_EQ( EFTexFader_BC::FindEntry( object, name ), nullptr );
		Fader().FadeTo( object, &params );
		EXPECT_EQ( object->muiTexFaderRefCount, 0u );
	}
	EXPECT_EQ( Draw( 0 ), Expected( 0, {}, false, nullptr ) );
	Fader().DestroyEntry( object );
	EXPECT_EQ( EFTexFader_BC::FirstActiveAtomic, nullptr );
}

}
