/*
	The 25 tables as a whole: before they are filled every slot reaches its
	own table's stub, which returns zero and sets that table's flag only;
	once filled, the root getters hand out the tables and the slots no
	fill function writes still hold their stubs.
*/
#include "framework/logic/LogicWorldFixture.h"

#include "framework/logic/EFCustomLibBank.h"
#include "framework/logic/api/LogicApiCons.h"
#include "framework/logic/api/LogicApiSlots.h"
#include "framework/logic/api/LogicApiTables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

namespace {

// Calls a slot with zero arguments and notes whether every result was
// zero (bytes), records included.
struct ZeroCaller {
	template< class Result >
	void Note( const Result & result ) {
		Result zero{};
		allZero = allZero && std::memcmp( &result, &zero, sizeof( Result ) ) == 0;
	}
	template< class Result, class... Args >
	void operator()( Result ( *&slot )( Args... ) ) {
		calls++;
		if constexpr ( std::is_void_v<Result> ) {
			slot( Args{}... );
		} else {
			Note( slot( Args{}... ) );
		}
	}
	template< class Result, class... Args >
	void operator()( Result ( *&slot )( Args..., ... ) ) {
		calls++;
		if constexpr ( std::is_void_v<Result> ) {
			slot( Args{}... );
		} else {
			Note( slot( Args{}... ) );
		}
	}
	bool	allZero = true;
	u32		calls = 0;
};

// Differences between a table and its stub twin, slot by slot.
template< class Table >
std::vector<u32> FilledSlots( const Table & table, const Table & stubs ) {
	std::vector<u32> filled;
	const u8 * const a = reinterpret_cast<const u8 *>( &table );
	const u8 * const b = reinterpret_cast<const u8 *>( &stubs );
	for ( u32 slot = 0; slot < sizeof( Table ) / sizeof( void * ); slot++ ) {
		if ( std::memcmp( a + slot * sizeof( void * ), b + slot * sizeof( void * ), sizeof( void * ) ) != 0 ) {
			filled.push_back( slot );
		}
	}
	return filled;
}

std::vector<u32> Range( const u32 first, const u32 end ) {
	std::vector<u32> slots;
	for ( u32 slot = first; slot < end; slot++ ) {
		slots.push_back( slot );
	}
	return slots;
}

struct TableRow {
	const char *	name;
	// Calls every slot in a fresh table; true when all returned zero and
	// the table was still its twin.
	bool			( *callAll )( u32 & calls );
	bool			( *done )();
	// The slots a fill function writes.
	std::vector<u32>	( *filled )();
};

template< class Table >
bool CallAll( Table & table, const Table & stubs, u32 & calls ) {
	const bool untouched = std::memcmp( &table, &stubs, sizeof( Table ) ) == 0;
	ZeroCaller caller;
	VisitSlots( table, caller );
	calls = caller.calls;
	return untouched && caller.allZero;
}

std::vector<u32> RootFilled() {
	std::vector<u32> slots = Range( 0, 5 );
	for ( u32 slot : Range( 6, 27 ) ) {
		slots.push_back( slot );
	}
	for ( u32 slot : Range( 28, 33 ) ) {
		slots.push_back( slot );
	}
	return slots;
}

const std::vector<TableRow> & Tables() {
	static const std::vector<TableRow> rows = {
		{ "cons", []( u32 & c ) { return CallAll( APIcons, APIconsStubs, c ); }, ApiConsNotInitDone,
		  []() { return FilledSlots( APIcons, APIconsStubs ); } },
		{ "stdlib", []( u32 & c ) { return CallAll( APIstdlib, APIstdlibStubs, c ); }, ApiStdLibNotInitDone,
		  []() { return FilledSlots( APIstdlib, APIstdlibStubs ); } },
		{ "input", []( u32 & c ) { return CallAll( APIinput, APIinputStubs, c ); }, ApiInputNotInitDone,
		  []() { return FilledSlots( APIinput, APIinputStubs ); } },
		{ "math", []( u32 & c ) { return CallAll( APImath, APImathStubs, c ); }, ApiMathNotInitDone,
		  []() { return FilledSlots( APImath, APImathStubs ); } },
		{ "gameobj", []( u32 & c ) { return CallAll( APIgameobj, APIgameobjStubs, c ); }, ApiGameObjNotInitDone,
		  []() { return FilledSlots( APIgameobj, APIgameobjStubs ); } },
		{ "extra", []( u32 & c ) { return CallAll( APIextra, APIextraStubs, c ); }, ApiExtraNotInitDone,
		  []() { return FilledSlots( APIextra, APIextraStubs ); } },
		{ "anim", []( u32 & c ) { return CallAll( APIanim, APIanimStubs, c ); }, ApiAnimNotInitDone,
		  []() { return FilledSlots( APIanim, APIanimStubs ); } },
		{ "camera", []( u32 & c ) { return CallAll( APIcamera, APIcameraStubs, c ); }, ApiCameraNotInitDone,
		  []() { return FilledSlots( APIcamera, APIcameraStubs ); } },
		{ "light", []( u32 & c ) { return CallAll( APIlight, APIlightStubs, c ); }, ApiLightNotInitDone,
		  []() { return FilledSlots( APIlight, APIlightStubs ); } },
		{ "physic", []( u32 & c ) { return CallAll( APIphysic, APIphysicStubs, c ); }, ApiPhysicNotInitDone,
		  []() { return FilledSlots( APIphysic, APIphysicStubs ); } },
		{ "newSound", []( u32 & c ) { return CallAll( APInewSound, APInewSoundStubs, c ); }, ApiNewSoundNotInitDone,
		  []() { return FilledSlots( APInewSound, APInewSoundStubs ); } },
		{ "particle", []( u32 & c ) { return CallAll( APIparticle, APIparticleStubs, c ); }, ApiParticleNotInitDone,
		  []() { return FilledSlots( APIparticle, APIparticleStubs ); } },
		{ "projector", []( u32 & c ) { return CallAll( APIprojector, APIprojectorStubs, c ); }, ApiProjectorNotInitDone,
		  []() { return FilledSlots( APIprojector, APIprojectorStubs ); } },
		{ "console", []( u32 & c ) { return CallAll( APIconsole, APIconsoleStubs, c ); }, ApiConsoleNotInitDone,
		  []() { return FilledSlots( APIconsole, APIconsoleStubs ); } },
		{ "hud", []( u32 & c ) { return CallAll( APIhud, APIhudStubs, c ); }, ApiHudNotInitDone,
		  []() { return FilledSlots( APIhud, APIhudStubs ); } },
		{ "game", []( u32 & c ) { return CallAll( APIgame, APIgameStubs, c ); }, ApiGameNotInitDone,
		  []() { return FilledSlots( APIgame, APIgameStubs ); } },
		{ "qa", []( u32 & c ) { return CallAll( APIqa, APIqaStubs, c ); }, ApiQANotInitDone,
		  []() { return FilledSlots( APIqa, APIqaStubs ); } },
		{ "fbeffects", []( u32 & c ) { return CallAll( APIfbeffects, APIfbeffectsStubs, c ); }, ApiFBEffectsNotInitDone,
		  []() { return FilledSlots( APIfbeffects, APIfbeffectsStubs ); } },
		{ "graphics", []( u32 & c ) { return CallAll( APIgraphics, APIgraphicsStubs, c ); }, ApiGraphicsNotInitDone,
		  []() { return FilledSlots( APIgraphics, APIgraphicsStubs ); } },
		{ "karaoke", []( u32 & c ) { return CallAll( APIkaraoke, APIkaraokeStubs, c ); }, ApiKaraokeNotInitDone,
		  []() { return FilledSlots( APIkaraoke, APIkaraokeStubs ); } },
		{ "simpleinput", []( u32 & c ) { return CallAll( APIsimpleinput, APIsimpleinputStubs, c ); },
		  ApiSimpleInputNotInitDone, []() { return FilledSlots( APIsimpleinput, APIsimpleinputStubs ); } },
		{ "gbalink", []( u32 & c ) { return CallAll( APIgbalink, APIgbalinkStubs, c ); }, ApiGBALinkNotInitDone,
		  []() { return FilledSlots( APIgbalink, APIgbalinkStubs ); } },
		{ "loadsave", []( u32 & c ) { return CallAll( APILoadSave, APILoadSaveStubs, c ); }, ApiLoadSaveNotInitDone,
		  []() { return FilledSlots( APILoadSave, APILoadSaveStubs ); } },
		{ "reglib", []( u32 & c ) { return CallAll( APIRegLib, APIRegLibStubs, c ); }, ApiRegLibNotInitDone,
		  []() { return FilledSlots( APIRegLib, APIRegLibStubs ); } },
		{ "spline", []( u32 & c ) { return CallAll( APIspline, APIsplineStubs, c ); }, ApiSplineLibNotInitDone,
		  []() { return FilledSlots( APIspline, APIsplineStubs ); } },
	};
	return rows;
}

// In a fresh process (the flags are process-wide): every slot of one
// table, called before anything fills it, sets that table's flag and no
// other. Exits 0 when all holds.
void CallOneTableInAFreshProcess( const size_t index ) {
	const std::vector<TableRow> & rows = Tables();
	for ( const TableRow & row : rows ) {
		if ( row.done() ) {
			std::_Exit( 2 );
		}
	}
	u32 calls = 0;
	if ( !rows[index].callAll( calls ) || calls == 0 ) {
		std::_Exit( 3 );
	}
	for ( size_t i = 0; i < rows.size(); i++ ) {
		if ( rows[i].done() != ( i == index ) ) {
			std::_Exit( 4 );
		}
	}
	std::_Exit( 0 );
}

}

TEST( LogicApiTablesDeathTest, EverySlotReachesItsOwnTablesStubBeforeTheTablesAreFilled ) {
	GTEST_FLAG_SET( death_test_style, "threadsafe" );
	for ( size_t index = 0; index < Tables().size(); index++ ) {
		SCOPED_TRACE( Tables()[index].name );
		EXPECT_EXIT( CallOneTableInAFreshProcess( index ), ::testing::ExitedWithCode( 0 ), "" );
	}
}

class LogicApiTablesTest : public LogicWorldFixture {};

TEST_F( LogicApiTablesTest, FillingWritesOnlyTheImplementedSlots ) {
	// The manager's constructor filled every table.
	struct Row {
		const char *		name;
		std::vector<u32>	filled;
	};
	const Row rows[] = {
		{ "cons", RootFilled() },
		{ "stdlib", Range( 0, 13 ) },
		{ "math", Range( 0, 60 ) },
		{ "anim", Range( 0, 16 ) },
		{ "camera", Range( 0, 27 ) },
		{ "light", Range( 0, 14 ) },
		{ "projector", Range( 0, 9 ) },
		{ "spline", Range( 1, 16 ) },
		{ "newSound", Range( 0, 23 ) },
		{ "gameobj", Range( 0, 69 ) },
		{ "physic", Range( 0, 45 ) },
		{ "input", Range( 0, 32 ) },
		{ "simpleinput", Range( 0, 28 ) },
		{ "extra", Range( 0, 30 ) },
		{ "game", Range( 0, 15 ) },
		{ "loadsave", Range( 0, 38 ) },
		{ "console", Range( 0, 2 ) },
		{ "qa", Range( 0, 3 ) },
		{ "karaoke", Range( 0, 12 ) },
		{ "gbalink", Range( 0, 4 ) },
		{ "reglib", Range( 0, 2 ) },
		{ "hud", Range( 0, 36 ) },
		{ "particle", Range( 0, 31 ) },
		{ "fbeffects", Range( 0, 5 ) },
		{ "graphics", Range( 0, 30 ) },
	};
	for ( const TableRow & table : Tables() ) {
		SCOPED_TRACE( table.name );
		std::vector<u32> expected;
		for ( const Row & row : rows ) {
			if ( std::strcmp( row.name, table.name ) == 0 ) {
				expected = row.filled;
			}
		}
		EXPECT_EQ( table.filled(), expected );
	}
	// Stopping a level changes no slot.
	const _api_cons before = APIcons;
	Stop_cons();
	EXPECT_EQ( std::memcmp( &before, &APIcons, sizeof( _api_cons ) ), 0 );
}

TEST_F( LogicApiTablesTest, TheRootGettersHandOutTheirTables ) {
	const void * const got[] = {
		APIcons.GetApiStdlib(), APIcons.GetApiInput(), APIcons.GetApiMath(), APIcons.GetApiGameObj(),
		APIcons.GetApiExtra(), APIcons.GetApiAnim(), APIcons.GetApiCamera(), APIcons.GetApiLight(),
		APIcons.GetApiPhysic(), APIcons.GetApiNewSound(), APIcons.GetApiParticle(), APIcons.GetApiProjector(),
		APIcons.GetApiConsole(), APIcons.GetApiHUD(), APIcons.GetApiGame(), APIcons.GetApiQA(),
		APIcons.GetApiFBEffects(), APIcons.GetApiGraphics(), APIcons.GetApiKaraoke(), APIcons.GetApiSimpleInput(),
		APIcons.GetApiGBALink(), APIcons.GetApiLoadSave(), APIcons.GetApiRegLib(), APIcons.GetApiSpline(),
	};
	const void * const expected[] = {
		&APIstdlib, &APIinput, &APImath, &APIgameobj, &APIextra, &APIanim, &APIcamera, &APIlight,
		&APIphysic, &APInewSound, &APIparticle, &APIprojector, &APIconsole, &APIhud, &APIgame, &APIqa,
		&APIfbeffects, &APIgraphics, &APIkaraoke, &APIsimpleinput, &APIgbalink, &APILoadSave, &APIRegLib,
		&APIspline,
	};
	for ( size_t i = 0; i < std::size( expected ); i++ ) {
		EXPECT_EQ( got[i], expected[i] ) << i;
	}
	// The spline table's own fill returns it too.
	EXPECT_EQ( InitSplineAPI(), &APIspline );
}

TEST_F( LogicApiTablesTest, TheCustomGetterFindsOnlyRegisteredBlocks ) {
	char name[] = "TUNING";
	char other[] = "NOBODY";
	EXPECT_EQ( APIcons.GetApiCustom( name ), nullptr );
	void * const block = APIRegLib.RegisterLib( name, 12 );
	ASSERT_NE( block, nullptr );
	EXPECT_EQ( APIcons.GetApiCustom( name ), block );
	EXPECT_EQ( APIcons.GetApiCustom( other ), nullptr );
	EXPECT_EQ( APIcons.GetApiCustom( nullptr ), nullptr );
	APIRegLib.UnRegisterLib( name );
	EXPECT_EQ( APIcons.GetApiCustom( name ), nullptr );
	EFCustomLibBank::Destroy();
}
